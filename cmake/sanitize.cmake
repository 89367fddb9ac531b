# The office's C++-UNO bridge makes the vtables of its proxies at run time, and
# UBSan's vptr check takes them for wild pointers: the one file that talks to
# the office goes without that check (and keeps every other).
if(KUZELNA_SANITIZE OR KUZELNA_FUZZ)
  set_source_files_properties(${CMAKE_SOURCE_DIR}/src/reports/spreadsheet_uno.cpp PROPERTIES COMPILE_OPTIONS
                                                                                        -fno-sanitize=vptr)
endif()
