# shading subsystem.
target_sources(meshshade_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/cg_runtime.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cg_errors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cg_binding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program_source.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program_includes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/glsl_preprocessor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uniform_scan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/driver_log.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cg_matrix.cpp
  ${CMAKE_CURRENT_LIST_DIR}/glsl_core.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shader_setup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shader_contract.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shader_programs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shader_reload.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shader_parameters.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shader_inputs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parameter_annotations.cpp
  ${CMAKE_CURRENT_LIST_DIR}/user_parameters.cpp
)
