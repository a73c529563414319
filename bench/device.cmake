# device_bench: Velnor's page download and listings against curl on the same simulator
# (bench/run-device.sh drives it). Not part of the test run.
if(TARGET velnor_device AND TARGET velnor_app)
  add_executable(device_bench ${CMAKE_CURRENT_LIST_DIR}/device_bench.cpp)
  target_link_libraries(device_bench PRIVATE velnor_device velnor_app Qt6::Core)
  velnor_warnings(device_bench)
  foreach(dependency mfpsim tarvin codec sedrin sti ostrel quilmar)
    if(TARGET ${dependency})
      add_dependencies(device_bench ${dependency})
    endif()
  endforeach()
endif()
