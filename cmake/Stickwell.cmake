# sw_folder_library(NAME LIBS...): a static library from every .cpp/.h in the calling folder.
# Its include root is a staging folder holding only a link to its own folder, so a library sees
# its own headers and, through the libraries it links, theirs: an include of a folder it may not
# use fails to compile. (scripts/check_layers.py holds who may use whom.)
function(sw_folder_library name)
  get_filename_component(_folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(_stage ${CMAKE_BINARY_DIR}/include/${_folder})
  file(MAKE_DIRECTORY ${_stage})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${_stage}/${_folder} SYMBOLIC)
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
                                   ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  list(FILTER _src EXCLUDE REGEX ".*_main\\.cpp$")
  set(_cpp ${_src})
  list(FILTER _cpp INCLUDE REGEX ".*\\.cpp$")
  if(_cpp)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${_stage})
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${_stage})
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# sw_test_folder(NAME LIBS...): one test program from every *_test.cpp in the calling folder.
# Qt folders get a main that starts a QApplication on the offscreen platform.
function(sw_test_folder name)
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
                                   ${CMAKE_CURRENT_SOURCE_DIR}/support/*.cpp)
  if(NOT _src)
    return()
  endif()
  add_executable(${name} ${_src})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARGN})
  target_compile_definitions(${name} PRIVATE
    STICKWELL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    STICKWELL_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
    STICKWELL_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 900)
endfunction()
