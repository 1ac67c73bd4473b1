# Control panel and idle callback.
target_sources(meshshade_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/control_panel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/panel_sections.cpp
  ${CMAKE_CURRENT_LIST_DIR}/panel_parameters.cpp
  ${CMAKE_CURRENT_LIST_DIR}/panel_widgets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/panel_events.cpp
  ${CMAKE_CURRENT_LIST_DIR}/panel_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/panel_redraw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/control_callback.cpp
  ${CMAKE_CURRENT_LIST_DIR}/idle.cpp
)
