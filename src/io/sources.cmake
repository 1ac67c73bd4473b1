# File access: regular files only, never blocking, read up to a cap; files watched
# for edits; images decoded within limits; pictures written whole.
target_sources(meshshade_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/bounded_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_stamp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_watch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/data_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_file.cpp
)
