# The overview window's FTP client is built on libcurl.
find_package(CURL REQUIRED)
target_link_libraries(kuzelna_shell PUBLIC CURL::libcurl)
