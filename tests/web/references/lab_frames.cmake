# The lab's reference pictures: for each parameter set of lab_sets.json, and each of the lessons'
# buttons that sets the lab's numbers, the viewer's sources with those numbers pasted in from the
# lab's own "copy as code" text (lab_source.mjs), built into the native frames program, which
# draws the set's states, or the button's keys, on Mesa into frames/lab/SET/.
set(lab_sets_file ${CMAKE_CURRENT_SOURCE_DIR}/references/lab_sets.json)
set(lessons_file ${PROJECT_SOURCE_DIR}/docs/LESSONS.md)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${lab_sets_file} ${lessons_file})
file(READ ${lab_sets_file} lab_sets)
set(lab_scripts ${PROJECT_SOURCE_DIR}/platform/web/lab)

# SET's frames: `frames_wanted` are the native program's arguments after its folder.
function(add_lab_frames set frames_wanted)
  set(edited ${frames}/lab/${set})
  add_custom_command(OUTPUT ${edited}/lighting.cpp ${edited}/materials.cpp ${edited}/display.cpp
      ${edited}/code.txt
    COMMAND ${NODE_EXECUTABLE} references/lab_source.mjs ${PROJECT_SOURCE_DIR} ${lab_sets_file}
            ${set} ${edited}
    DEPENDS references/lab_source.mjs ${lab_sets_file} ${lab_scripts}/quote.mjs
            ${lab_scripts}/table.js ${lab_scripts}/code.js
            ${PROJECT_SOURCE_DIR}/src/shell/lighting.cpp
            ${PROJECT_SOURCE_DIR}/src/geometry/materials.cpp
            ${PROJECT_SOURCE_DIR}/src/shell/display.cpp ${lessons_file}
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    COMMENT "Pasting the lab's numbers for ${set} into the viewer's sources")
  # The edited files come first on the link line, so the library's own lighting, materials and
  # frame are never pulled in.
  add_executable(web_lab_frames_${set} ${edited}/lighting.cpp ${edited}/materials.cpp
    ${edited}/display.cpp)
  target_include_directories(web_lab_frames_${set} PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(web_lab_frames_${set} PRIVATE ${reference_libraries})
  add_test(NAME web.lab_frames.${set} COMMAND web_lab_frames_${set} ${edited} ${frames_wanted})
  set_tests_properties(web.lab_frames.${set} PROPERTIES FIXTURES_SETUP web_frames LABELS web)
endfunction()

string(JSON lab_set_count LENGTH "${lab_sets}" sets)
math(EXPR lab_last_set "${lab_set_count} - 1")
foreach(index RANGE ${lab_last_set})
  string(JSON set GET "${lab_sets}" sets ${index} name)
  string(JSON state_count LENGTH "${lab_sets}" sets ${index} states)
  math(EXPR last_state "${state_count} - 1")
  set(states)
  foreach(state_index RANGE ${last_state})
    string(JSON state GET "${lab_sets}" sets ${index} states ${state_index})
    list(APPEND states ${state})
  endforeach()
  add_lab_frames(${set} "${states}")
endforeach()

# A lessons' button is a run of keys and the lab's numbers (NAME=VALUES) from the viewer as it
# starts, and perhaps the second view opened (outside, perpixel): its frame is the keys' frame in
# the build with the numbers in.
file(STRINGS ${lessons_file} lab_buttons REGEX "^<!-- try [a-z-]+ \"[^\"]+\":.*=")
foreach(button IN LISTS lab_buttons)
  string(REGEX REPLACE "^<!-- try ([a-z-]+) .*" "\\1" name "${button}")
  string(REGEX REPLACE "^[^:]*:(.*)-->$" "\\1" steps "${button}")
  string(REGEX MATCHALL "[^ ]+" steps "${steps}")
  set(keys "")
  foreach(step IN LISTS steps)
    # The second view changes nothing the picture shows.
    if(step MATCHES "^(outside|perpixel)")
      continue()
    endif()
    if(NOT step MATCHES "=")
      if(NOT step MATCHES "^[1-4shwpvq]+$")
        message(FATAL_ERROR "The lessons' button ${name} drags (${step}) and sets the lab's "
          "numbers: the browser suite has no native picture for that.")
      endif()
      string(APPEND keys ${step})
    endif()
  endforeach()
  add_lab_frames(lesson-${name} "lesson-${name}=${keys}")
endforeach()
