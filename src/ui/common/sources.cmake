# Helpers every window shares: text conversion, placing windows, the busy pointer, colours.
target_sources(tintwell_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/busy_pointer.h
    ${CMAKE_CURRENT_LIST_DIR}/colour_chart.h
    ${CMAKE_CURRENT_LIST_DIR}/common.cpp
    ${CMAKE_CURRENT_LIST_DIR}/editing_keys.h
    ${CMAKE_CURRENT_LIST_DIR}/latin1.h
    ${CMAKE_CURRENT_LIST_DIR}/qt_colour.h
    ${CMAKE_CURRENT_LIST_DIR}/window_place.h
)
