# Application shell: viewer state, mesh slots, light, resets, extension loader, X failures, side windows.
target_sources(meshshade_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/scene_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mesh_slots.cpp
  ${CMAKE_CURRENT_LIST_DIR}/model_slot.cpp
  ${CMAKE_CURRENT_LIST_DIR}/command_line.cpp
  ${CMAKE_CURRENT_LIST_DIR}/workspace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lighting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/glh_extensions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/swap_control.cpp
  ${CMAKE_CURRENT_LIST_DIR}/state_report.cpp
  ${CMAKE_CURRENT_LIST_DIR}/x_errors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/side_windows.cpp
)
