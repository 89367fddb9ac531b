# The spreadsheet application behind the reports: LibreOffice through UNO on
# Linux, Excel through ActiveQt on Windows; and the template workbooks, made
# from the spreadsheets in templates/ by LibreOffice at build time.

if(WIN32)
  find_package(Qt6 REQUIRED COMPONENTS AxContainer)
  target_link_libraries(kuzelna_shell PUBLIC Qt6::AxContainer)
else()
  # The Excel backend is Windows-only: keep it out of the shell here.
  set_source_files_properties(${CMAKE_SOURCE_DIR}/src/reports/spreadsheet_excel_qt.cpp
                              PROPERTIES HEADER_FILE_ONLY ON)

  set(LIBREOFFICE_PROGRAM_DIR /usr/lib/libreoffice/program CACHE PATH "LibreOffice program folder")
  set(LIBREOFFICE_SDK_DIR /usr/lib/libreoffice/sdk CACHE PATH "LibreOffice SDK folder")
  set(LIBREOFFICE_INCLUDE_DIR /usr/include/libreoffice CACHE PATH "LibreOffice UNO headers")

  # The UNO API headers are generated from the office's type libraries.
  set(UNO_HEADER_DIR ${CMAKE_BINARY_DIR}/uno_headers)
  set(UNO_HEADER_STAMP ${UNO_HEADER_DIR}/com/sun/star/frame/Desktop.hpp)
  add_custom_command(
    OUTPUT ${UNO_HEADER_STAMP}
    COMMAND ${LIBREOFFICE_SDK_DIR}/bin/cppumaker -Gc -O${UNO_HEADER_DIR}
            ${LIBREOFFICE_PROGRAM_DIR}/types.rdb ${LIBREOFFICE_PROGRAM_DIR}/types/offapi.rdb
    COMMENT "Generating the UNO API headers"
    VERBATIM)
  add_custom_target(uno_headers DEPENDS ${UNO_HEADER_STAMP})

  file(GLOB_RECURSE OFFICE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*_uno.cpp
       ${CMAKE_SOURCE_DIR}/src/*_uno.h)
  add_library(kuzelna_office STATIC ${OFFICE_SOURCES})
  add_dependencies(kuzelna_office uno_headers)
  target_compile_definitions(kuzelna_office PRIVATE UNX GCC LINUX CPPU_ENV=gcc3)
  target_include_directories(kuzelna_office SYSTEM PRIVATE ${UNO_HEADER_DIR} ${LIBREOFFICE_INCLUDE_DIR})
  target_link_libraries(
    kuzelna_office PUBLIC kuzelna_engine ${LIBREOFFICE_SDK_DIR}/lib/libuno_cppuhelpergcc3.so
                          ${LIBREOFFICE_SDK_DIR}/lib/libuno_cppu.so ${LIBREOFFICE_SDK_DIR}/lib/libuno_sal.so)
  target_link_options(kuzelna_office INTERFACE "LINKER:-rpath,${LIBREOFFICE_PROGRAM_DIR}")
  target_link_libraries(kuzelna_shell PUBLIC kuzelna_office)
endif()

# Template workbooks: generated as flat OpenDocument spreadsheets, converted to
# .xls by LibreOffice (with a profile of its own in the build tree).
find_package(Python3 COMPONENTS Interpreter)
# The launcher, not the binary: a fresh profile makes the office restart once,
# which only the launcher does by itself.
find_program(KUZELNA_SOFFICE NAMES soffice PATHS /usr/lib/libreoffice/program "C:/Program Files/LibreOffice/program")
set(KUZELNA_TEMPLATE_DIR ${CMAKE_BINARY_DIR}/templates)
set(KUZELNA_TEMPLATE_NAMES zapis zapis2 zapis_dorost zapis_special zapis_zlin turnaj_form_180HS
                           turnaj_form_180HS_monitor Vypis2 Vypis4 Vypis6)
if(Python3_Interpreter_FOUND AND KUZELNA_SOFFICE)
  set(template_sources)
  set(template_outputs)
  foreach(name ${KUZELNA_TEMPLATE_NAMES})
    list(APPEND template_sources ${CMAKE_BINARY_DIR}/template_sources/${name}.fods)
    list(APPEND template_outputs ${KUZELNA_TEMPLATE_DIR}/${name}.xls)
  endforeach()
  file(TO_CMAKE_PATH "${CMAKE_BINARY_DIR}/template_profile" template_profile)
  if(WIN32)
    set(template_profile_url "file:///${template_profile}")
  else()
    set(template_profile_url "file://${template_profile}")
  endif()
  add_custom_command(
    OUTPUT ${template_outputs}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/templates/make_templates.py
            ${CMAKE_BINARY_DIR}/template_sources
    COMMAND ${KUZELNA_SOFFICE} --headless --norestore --nologo --nolockcheck
            -env:UserInstallation=${template_profile_url} --convert-to xls --outdir ${KUZELNA_TEMPLATE_DIR}
            ${template_sources}
    # The office reports failed conversions only by the missing file.
    COMMAND ${CMAKE_COMMAND} -E md5sum ${template_outputs}
    DEPENDS ${CMAKE_SOURCE_DIR}/templates/make_templates.py
    COMMENT "Making the template workbooks"
    VERBATIM)
  add_custom_target(templates ALL DEPENDS ${template_outputs})
else()
  message(WARNING "Python 3 or LibreOffice missing: the template workbooks are not built")
endif()

# Tests against the real office: each starts its own headless LibreOffice.
if(TARGET kuzelna_office AND TARGET templates)
  file(GLOB OFFICE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/office/test_*.cpp)
  foreach(test_source ${OFFICE_TESTS})
    get_filename_component(test_name ${test_source} NAME_WE)
    add_executable(${test_name} ${test_source})
    add_dependencies(${test_name} templates)
    target_link_libraries(${test_name} PRIVATE kuzelna_office kuzelna_test_support GTest::gtest_main)
    target_compile_definitions(${test_name} PRIVATE KUZELNA_TEMPLATE_DIR="${KUZELNA_TEMPLATE_DIR}")
    add_test(NAME ${test_name} COMMAND ${test_name})
    set_tests_properties(${test_name} PROPERTIES TIMEOUT 300 LABELS office)
  endforeach()
endif()
