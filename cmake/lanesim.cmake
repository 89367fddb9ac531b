# kuzelna-lanesim drives the virtual alley from a Qt event loop on a
# pseudo-terminal, with the same code as kuzelna --simulate.
if(TARGET kuzelna-lanesim)
  target_link_libraries(kuzelna-lanesim PRIVATE kuzelna_shell)
  set_target_properties(kuzelna-lanesim PROPERTIES AUTOMOC ON)
endif()
