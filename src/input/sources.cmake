# Interaction: mouse drags, trackball, popup menus, keyboard, help.
target_sources(meshshade_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/trackball.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drag_steps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mouse.cpp
  ${CMAKE_CURRENT_LIST_DIR}/menus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/help.cpp
)
