# Replays the fuzz regressions in a normal build (any compiler, with or without sanitizers):
# each fuzz_<name>.cpp is also built with fuzz/replay_main.cpp into fuzz_replay_<name>, and
# every file under fuzz/regressions/<name>/ becomes a CTest test (label unit) that passes it
# through the target's entry function. Files added later are found at the next build.
file(GLOB KVL_FUZZ_TARGET_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/fuzz_*.cpp)
foreach(src IN LISTS KVL_FUZZ_TARGET_SOURCES)
  get_filename_component(stem ${src} NAME_WE)
  string(REGEX REPLACE "^fuzz_" "" name ${stem})
  add_executable(fuzz_replay_${name} ${src} ${CMAKE_CURRENT_LIST_DIR}/replay_main.cpp)
  target_link_libraries(fuzz_replay_${name} PRIVATE tnwconv_obj tnwsheet_obj tnwcommon tnwimage)
  if(name STREQUAL "history_file")
    target_sources(fuzz_replay_${name} PRIVATE ${PROJECT_SOURCE_DIR}/app/core/history/history_file.cpp)
  endif()
  file(GLOB inputs CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/regressions/${name}/*)
  list(FILTER inputs EXCLUDE REGEX "/\\.[^/]*$")  # .gitkeep and other hidden files
  foreach(input IN LISTS inputs)
    if(IS_DIRECTORY ${input})
      continue()
    endif()
    get_filename_component(file ${input} NAME)
    add_test(NAME FuzzRegression.${name}.${file} COMMAND fuzz_replay_${name} ${input})
    set_tests_properties(FuzzRegression.${name}.${file} PROPERTIES LABELS unit)
  endforeach()
endforeach()
