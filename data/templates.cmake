# The template catalogue QXLTPL.DBF and its index QXLTPL.CDX, generated from templates.tsv by a
# small program on the table engine, then placed beside the executables.
add_executable(stickwell-templates ${CMAKE_CURRENT_SOURCE_DIR}/templates_generate.cpp)
target_link_libraries(stickwell-templates PRIVATE sw_xbase)
# The table layouts of the label library, which are standard C++ (the library itself needs Qt).
target_include_directories(stickwell-templates PRIVATE $<TARGET_PROPERTY:sw_library,INTERFACE_INCLUDE_DIRECTORIES>)
set_target_properties(stickwell-templates PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

set(_tpl_out ${CMAKE_BINARY_DIR}/templates)
add_custom_command(
  OUTPUT ${STICKWELL_BIN_DIR}/QXLTPL.DBF ${STICKWELL_BIN_DIR}/QXLTPL.CDX
  COMMAND stickwell-templates ${CMAKE_CURRENT_SOURCE_DIR}/templates.tsv ${_tpl_out}
  COMMAND ${CMAKE_COMMAND} -E copy ${_tpl_out}/QXLTPL.DBF ${_tpl_out}/QXLTPL.CDX ${STICKWELL_BIN_DIR}/
  DEPENDS stickwell-templates ${CMAKE_CURRENT_SOURCE_DIR}/templates.tsv
  COMMENT "Generating the template catalogue QXLTPL.DBF"
  VERBATIM)
add_custom_target(template_catalogue ALL
  DEPENDS ${STICKWELL_BIN_DIR}/QXLTPL.DBF ${STICKWELL_BIN_DIR}/QXLTPL.CDX)
