# Runs the drawing program into a fresh folder and compares every file it
# writes with the committed one, byte for byte.
#   cmake -D GENERATOR=make_images -D COMMITTED=dir -D OUTPUT=dir -P check_images.cmake
file(REMOVE_RECURSE "${OUTPUT}")
file(MAKE_DIRECTORY "${OUTPUT}")
execute_process(COMMAND "${GENERATOR}" "${OUTPUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_images failed: ${result}")
endif()

set(differ "")
foreach(name tarnwick.ico logo.bmp hand.cur hand_alt.cur)
  if(NOT EXISTS "${OUTPUT}/${name}")
    list(APPEND differ "${name} (not written)")
    continue()
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${COMMITTED}/${name}" "${OUTPUT}/${name}"
                  RESULT_VARIABLE same)
  if(NOT same EQUAL 0)
    list(APPEND differ "${name}")
  endif()
endforeach()
if(differ)
  message(FATAL_ERROR "committed pictures differ from the drawing: ${differ}\n"
                      "run make_images ${COMMITTED} and commit the result")
endif()
message(STATUS "all four pictures match their drawing")
