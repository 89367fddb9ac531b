# The version the program reports: the project version and the git commit,
# looked up again at every build (a new commit needs no new configure run).
set(KUZELNA_VERSION_SOURCE ${CMAKE_BINARY_DIR}/generated/program_version.cpp)
set(version_command ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DOUTPUT=${KUZELNA_VERSION_SOURCE}
                    -DVERSION=${PROJECT_VERSION} -P ${CMAKE_SOURCE_DIR}/packaging/program_version.cmake)
execute_process(COMMAND ${version_command})
add_custom_target(program_version COMMAND ${version_command} BYPRODUCTS ${KUZELNA_VERSION_SOURCE} VERBATIM)
target_sources(kuzelna_engine PRIVATE ${KUZELNA_VERSION_SOURCE})
add_dependencies(kuzelna_engine program_version)

# The list of changes, shown by the console's "Změny".
qt_add_resources(kuzelna_shell changelog PREFIX /doc BASE ${CMAKE_SOURCE_DIR} FILES ${CMAKE_SOURCE_DIR}/CHANGELOG.md)
