# The live results: HTTP and WebSocket through Boost.Beast (headers only) on a
# thread of its own, the page kept as a Qt resource, QR codes by libqrencode.
find_package(Boost 1.81 REQUIRED)
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(QRENCODE REQUIRED IMPORTED_TARGET libqrencode)
# Boost's headers are not ours to keep warning-free.
target_include_directories(kuzelna_shell SYSTEM PUBLIC ${Boost_INCLUDE_DIRS})
target_compile_definitions(kuzelna_shell PUBLIC BOOST_ASIO_NO_DEPRECATED BOOST_BEAST_USE_STD_STRING_VIEW)
target_link_libraries(kuzelna_shell PUBLIC Threads::Threads PkgConfig::QRENCODE)
qt_add_resources(kuzelna_shell webpage PREFIX /web BASE ${CMAKE_SOURCE_DIR}/src/web/page
                 FILES ${CMAKE_SOURCE_DIR}/src/web/page/live.html ${CMAKE_SOURCE_DIR}/src/web/page/live.css
                       ${CMAKE_SOURCE_DIR}/src/web/page/live.js)
