# The program Velnor: its entry point and start-up, linked with every subsystem that exists.
# Included from the root after all subsystem folders, so their targets are known here.
if(EXISTS ${PROJECT_SOURCE_DIR}/app/main.cpp)
  file(GLOB velnor_startup_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/app/startup/*.cpp)
  add_executable(Velnor ${PROJECT_SOURCE_DIR}/app/main.cpp ${velnor_startup_sources})
  target_link_libraries(Velnor PRIVATE velnor_app)
  foreach(subsystem velnor_device velnor_convert velnor_ui)
    if(TARGET ${subsystem})
      target_link_libraries(Velnor PRIVATE ${subsystem})
    endif()
  endforeach()
  velnor_warnings(Velnor)
endif()
