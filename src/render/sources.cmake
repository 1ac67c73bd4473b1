# Rendering: frame, projection and viewing toggles, cube map and sky, the user's sky, the refused reload's box.
target_sources(meshshade_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/frame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mesh_buffers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/projection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cube_map.cpp
  ${CMAKE_CURRENT_LIST_DIR}/user_sky.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gl_check.cpp
  ${CMAKE_CURRENT_LIST_DIR}/screenshot.cpp
  ${CMAKE_CURRENT_LIST_DIR}/refusal_box.cpp
)
