# cmake -DSHIPPED=FILE -DRUN_COPY=FILE -DRECORD=FILE -P copy_shader.cmake
#
# Puts a shipped shader file into the run folder without ever replacing a user's
# edit of it. RECORD holds the hash of the version shipped last time. The run
# folder's copy is replaced only while it is absent or still that version;
# otherwise it is kept, the new version lands beside it as FILE.shipped, and one
# line says so. Runs on every build; silent when nothing new was shipped.
file(SHA256 "${SHIPPED}" shipped_hash)
set(previous_hash "")
if(EXISTS "${RECORD}")
  file(READ "${RECORD}" previous_hash)
  string(STRIP "${previous_hash}" previous_hash)
endif()
get_filename_component(name "${RUN_COPY}" NAME)
get_filename_component(run_dir "${RUN_COPY}" DIRECTORY)
file(MAKE_DIRECTORY "${run_dir}")

if(NOT EXISTS "${RUN_COPY}")
  file(COPY_FILE "${SHIPPED}" "${RUN_COPY}")
elseif(NOT shipped_hash STREQUAL previous_hash)
  file(SHA256 "${RUN_COPY}" run_hash)
  if(run_hash STREQUAL previous_hash)
    # the previous version, unedited: the new one takes its place
    file(COPY_FILE "${SHIPPED}" "${RUN_COPY}")
  elseif(NOT run_hash STREQUAL shipped_hash)
    file(COPY_FILE "${SHIPPED}" "${RUN_COPY}.shipped")
    message(NOTICE "${RUN_COPY} has edits of yours and is kept; "
                   "the new shipped version is beside it: ${name}.shipped")
  endif()
endif()
if(EXISTS "${RUN_COPY}.shipped")
  # a new version taken over by hand, or a copy of one that is no longer new
  file(SHA256 "${RUN_COPY}" run_hash)
  if(run_hash STREQUAL shipped_hash)
    file(REMOVE "${RUN_COPY}.shipped")
  endif()
endif()
if(NOT shipped_hash STREQUAL previous_hash)
  file(WRITE "${RECORD}" "${shipped_hash}\n")
endif()
