# The results board's background picture is drawn at build time by a small
# program of ours and embedded into the shell as a Qt resource.
find_package(Qt6 REQUIRED COMPONENTS Gui)

add_executable(kuzelna-boardart tools/boardart/main.cpp)
target_include_directories(kuzelna-boardart PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(kuzelna-boardart PRIVATE Qt6::Gui)

set(BOARD_ART_DIR ${CMAKE_BINARY_DIR}/boardart)
set(BOARD_ART_JPEG ${BOARD_ART_DIR}/results_board.jpg)
add_custom_command(
  OUTPUT ${BOARD_ART_JPEG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${BOARD_ART_DIR}
  COMMAND kuzelna-boardart ${BOARD_ART_JPEG}
  DEPENDS kuzelna-boardart
  COMMENT "Drawing the results board background")
set_source_files_properties(${BOARD_ART_JPEG} PROPERTIES GENERATED TRUE)
qt_add_resources(kuzelna_shell boardart PREFIX /boards BASE ${BOARD_ART_DIR} FILES ${BOARD_ART_JPEG})
