# Fuzz targets: one program per fuzz/fuzz_*.cpp, with its seed corpus (and the
# reproducers of past findings) in fuzz/corpus/<name>/. With -DKUZELNA_FUZZ=ON
# (clang) they are libFuzzer programs for scripts/fuzz.sh; in every other build
# they replay their corpus as a test.
file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/fuzz_*.cpp)
if(KUZELNA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KUZELNA_FUZZ needs clang and its libFuzzer (-DCMAKE_CXX_COMPILER=clang++)")
  endif()
  add_custom_target(fuzz_targets)
endif()
foreach(fuzz_source ${FUZZ_SOURCES})
  get_filename_component(fuzz_name ${fuzz_source} NAME_WE)
  if(KUZELNA_FUZZ)
    add_executable(${fuzz_name} EXCLUDE_FROM_ALL ${fuzz_source})
    target_link_options(${fuzz_name} PRIVATE -fsanitize=fuzzer)
    add_dependencies(fuzz_targets ${fuzz_name})
  else()
    add_executable(${fuzz_name} ${fuzz_source} ${CMAKE_SOURCE_DIR}/fuzz/replay_main.cpp)
    add_test(NAME ${fuzz_name} COMMAND ${fuzz_name} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${fuzz_name})
  endif()
  target_include_directories(${fuzz_name} PRIVATE ${CMAKE_SOURCE_DIR}/fuzz)
  target_link_libraries(${fuzz_name} PRIVATE kuzelna_test_support)
endforeach()
