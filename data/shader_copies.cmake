# add_shader_copies(TARGET SOURCE_DIR RUN_DIR RECORD_DIR NAME...): a target, built
# every time, that keeps the shipped shader files NAME... of SOURCE_DIR in RUN_DIR
# without replacing a user's edits there (copy_shader.cmake). RECORD_DIR holds
# the hash of each file's last shipped version.
function(add_shader_copies target source_dir run_dir record_dir)
  set(commands)
  foreach(name IN LISTS ARGN)
    list(APPEND commands COMMAND ${CMAKE_COMMAND} -DSHIPPED=${source_dir}/${name} -DRUN_COPY=${run_dir}/${name}
         -DRECORD=${record_dir}/${name}.sha256 -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/copy_shader.cmake)
  endforeach()
  add_custom_target(${target} ALL ${commands} COMMENT "Checking the shader files in ${run_dir}" VERBATIM)
endfunction()
