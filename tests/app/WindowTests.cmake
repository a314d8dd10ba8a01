find_program(ORVANE_XVFB_RUN xvfb-run)
find_program(ORVANE_XDOTOOL xdotool)
find_program(ORVANE_IMPORT import)
set(ORVANE_XVFB_ARGS -a -s "-screen 0 1600x1000x24")
set(ORVANE_WINDOW_TESTS window-test second-copy-test fallback-test)
foreach(test ${ORVANE_WINDOW_TESTS})
  if(ORVANE_XVFB_RUN AND ORVANE_XDOTOOL AND ORVANE_IMPORT)
    set(args $<TARGET_FILE:orvane>)
    add_test(NAME Window.${test}
      COMMAND ${ORVANE_XVFB_RUN} ${ORVANE_XVFB_ARGS} ${CMAKE_CURRENT_SOURCE_DIR}/app/${test}.sh ${args})
  else()
    add_test(NAME Window.${test} COMMAND ${CMAKE_COMMAND} -E echo "SKIPPED: xvfb-run, xdotool or import missing")
    set_tests_properties(Window.${test} PROPERTIES SKIP_REGULAR_EXPRESSION "SKIPPED")
  endif()
  set_tests_properties(Window.${test} PROPERTIES TIMEOUT 60 LABELS window
    ENVIRONMENT "OV_DATA_DIR=${CMAKE_SOURCE_DIR}/data")
endforeach()

add_test(NAME Install.ScratchPrefix
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/install-test.sh ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
set_tests_properties(Install.ScratchPrefix PROPERTIES TIMEOUT 60)
