# One helper per kind of target, so every module builds the same way.

set(QUIZMORA_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wno-missing-field-initializers)

# quizmora_library(NAME SOURCES ... [LIBS ...] [QT])
# A static library of one module. QT marks a library that may use Qt; the others must not.
function(quizmora_library name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_SOURCES)
    message(FATAL_ERROR "quizmora_library(${name}): no source files")
  endif()
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${QUIZMORA_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_compile_definitions(${name} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII)
  endif()
endfunction()

# quizmora_executable(NAME SOURCES ... [LIBS ...] [QT])
function(quizmora_executable name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${QUIZMORA_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_compile_definitions(${name} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
  install(TARGETS ${name} RUNTIME DESTINATION bin)
endfunction()

# A game that a test starts keeps no show of its own (a folder that cannot be made): one killed by
# its test would otherwise leave a show that the next start offers in a dialog nobody answers, and
# the developer's own show would mix with the tests'. Tests of the show give their own folder.
set(QUIZMORA_TEST_ENV
  "XDG_STATE_HOME=/dev/null/quizmora-tests"
  "QT_QPA_PLATFORM=offscreen"
  "SDL_AUDIODRIVER=dummy"
  "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
  "QUIZMORA_TOOLS_DIR=${PROJECT_BINARY_DIR}/bin")

# quizmora_test(NAME SOURCES ... [LIBS ...] [QT] [TIMEOUT seconds])
# A GoogleTest program (or, with QT, a Qt Test program) registered as one CTest test.
# Tests find their fixtures through QUIZMORA_TEST_DATA, never through relative paths.
function(quizmora_test name)
  cmake_parse_arguments(ARG "QT" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${QUIZMORA_WARNINGS})
  target_compile_definitions(${name} PRIVATE
    QUIZMORA_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    QUIZMORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    QUIZMORA_BINARY_DIR="${PROJECT_BINARY_DIR}")
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_compile_definitions(${name} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII)
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock ${ARG_LIBS})
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${QUIZMORA_TEST_ENV}")
endfunction()

# quizmora_benchmark(NAME SOURCES ... [LIBS ...])
function(quizmora_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE QUIZMORA_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  target_link_libraries(${name} PRIVATE benchmark::benchmark ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endfunction()

# quizmora_fuzzer(NAME SOURCES ... [LIBS ...] [CORPUS dir])
# With QUIZMORA_FUZZ (clang) this is a libFuzzer target. Otherwise the same entry point is linked
# with a small driver that replays the seed corpus, and that replay runs as an ordinary test.
function(quizmora_fuzzer name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzz)
  if(QUIZMORA_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
    if(QUIZMORA_TESTS)
      if(NOT ARG_CORPUS)
        set(ARG_CORPUS ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
      endif()
      add_test(NAME ${name}.replay COMMAND ${name} ${ARG_CORPUS})
      set_tests_properties(${name}.replay PROPERTIES TIMEOUT 300 ENVIRONMENT "${QUIZMORA_TEST_ENV}")
    endif()
  endif()
endfunction()

# quizmora_module_tests(LIBS ... [QT_LIBS ...] [QT_ONLY name ...])
# In a tests/<module> folder: every <name>_test.cpp is a GoogleTest program <module>_<name> linked
# with LIBS; every <name>_qtest.cpp is a Qt Test program linked with LIBS and QT_LIBS (only built
# with QUIZMORA_WITH_QT). The GoogleTest programs named in QT_ONLY test a part that exists only in
# the Qt build: they are built with QUIZMORA_WITH_QT alone and link QT_LIBS as well. Shared helpers
# of a folder are header-only.
# A library that is named but not built stops the configuration: a test that quietly disappears
# looks exactly like a test that passes.
function(quizmora_module_tests)
  cmake_parse_arguments(ARG "" "" "LIBS;QT_LIBS;QT_ONLY" ${ARGN})
  get_filename_component(module ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(needed ${ARG_LIBS})
  if(QUIZMORA_WITH_QT)
    list(APPEND needed ${ARG_QT_LIBS})
  endif()
  foreach(lib IN LISTS needed)
    if(lib MATCHES "^quizmora_" AND NOT TARGET ${lib})
      message(FATAL_ERROR "tests/${module}: library ${lib} is not built, its tests would be lost")
    endif()
  endforeach()
  file(GLOB gtests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  foreach(source IN LISTS gtests)
    get_filename_component(name ${source} NAME_WE)
    string(REGEX REPLACE "_test$" "" name ${name})
    if(NOT name IN_LIST ARG_QT_ONLY)
      quizmora_test(${module}_${name} SOURCES ${source} LIBS ${ARG_LIBS})
    elseif(QUIZMORA_WITH_QT)
      quizmora_test(${module}_${name} SOURCES ${source} LIBS ${ARG_LIBS} ${ARG_QT_LIBS})
    endif()
    list(REMOVE_ITEM ARG_QT_ONLY ${name})
  endforeach()
  if(ARG_QT_ONLY)
    message(FATAL_ERROR "tests/${module}: QT_ONLY names no test file: ${ARG_QT_ONLY}")
  endif()
  if(QUIZMORA_WITH_QT)
    file(GLOB qtests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_qtest.cpp)
    foreach(source IN LISTS qtests)
      get_filename_component(name ${source} NAME_WE)
      string(REGEX REPLACE "_qtest$" "" name ${name})
      quizmora_test(${module}_${name} QT SOURCES ${source} LIBS ${ARG_LIBS} ${ARG_QT_LIBS})
    endforeach()
  endif()
endfunction()
