# The whole program in a real window (needs xvfb-run, xdotool, ImageMagick and sqlite3).
find_program(ORVANE_SQLITE3 sqlite3)
if(ORVANE_XVFB_RUN AND ORVANE_XDOTOOL AND ORVANE_IMPORT AND ORVANE_SQLITE3)
  add_test(NAME Whole.walk
    COMMAND ${ORVANE_XVFB_RUN} ${ORVANE_XVFB_ARGS} ${CMAKE_CURRENT_SOURCE_DIR}/whole/walk-test.sh
            $<TARGET_FILE:orvane>)
else()
  add_test(NAME Whole.walk COMMAND ${CMAKE_COMMAND} -E echo "SKIPPED: xvfb-run, xdotool, import or sqlite3 missing")
  set_tests_properties(Whole.walk PROPERTIES SKIP_REGULAR_EXPRESSION "SKIPPED")
endif()
set_tests_properties(Whole.walk PROPERTIES TIMEOUT 240 RUN_SERIAL TRUE LABELS whole ENVIRONMENT "OV_DATA_DIR=${CMAKE_SOURCE_DIR}/data")

# A seeded storm of random clicks and keys (500 by default; ORVANE_STORM_EVENTS=3000
# in the environment of ctest for the long run, ORVANE_STORM_SEED for another seed).
if(ORVANE_XVFB_RUN AND ORVANE_XDOTOOL AND ORVANE_IMPORT AND ORVANE_SQLITE3)
  add_test(NAME Whole.storm
    COMMAND ${ORVANE_XVFB_RUN} ${ORVANE_XVFB_ARGS} ${CMAKE_CURRENT_SOURCE_DIR}/whole/storm-test.sh
            $<TARGET_FILE:orvane>)
else()
  add_test(NAME Whole.storm COMMAND ${CMAKE_COMMAND} -E echo "SKIPPED: xvfb-run, xdotool, import or sqlite3 missing")
  set_tests_properties(Whole.storm PROPERTIES SKIP_REGULAR_EXPRESSION "SKIPPED")
endif()
set_tests_properties(Whole.storm PROPERTIES TIMEOUT 1200 RUN_SERIAL TRUE LABELS whole ENVIRONMENT "OV_DATA_DIR=${CMAKE_SOURCE_DIR}/data")

# The walk and the 3,000-event storm on a build with AddressSanitizer and
# UndefinedBehaviorSanitizer of its own (scripts/sanitize.sh). Far too slow for every
# run: it is skipped unless asked for with ORVANE_SANITIZE=1, as in
#   ORVANE_SANITIZE=1 ctest -L sanitize --output-on-failure
add_test(NAME Sanitize.walkAndStorm
  COMMAND sh -c "if [ -z \"$ORVANE_SANITIZE\" ]; then echo 'SKIPPED: set ORVANE_SANITIZE=1'; exit 0; fi; exec \"$0\""
          ${CMAKE_SOURCE_DIR}/scripts/sanitize.sh)
set_tests_properties(Sanitize.walkAndStorm PROPERTIES LABELS sanitize SKIP_REGULAR_EXPRESSION "SKIPPED"
  TIMEOUT 7200 RUN_SERIAL TRUE)
