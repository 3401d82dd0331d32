# The map of the open theme: its window, and the pane that draws the town, zooms, pans and
# finds what lies under the pointer.
target_sources(tintwell_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/map_pane.cpp
    ${CMAKE_CURRENT_LIST_DIR}/map_pane.h
    ${CMAKE_CURRENT_LIST_DIR}/map_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/map_window.h
)
