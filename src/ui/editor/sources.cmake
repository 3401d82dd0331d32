target_sources(tintwell_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/editor_state.h
    ${CMAKE_CURRENT_LIST_DIR}/editor_undo.h
    ${CMAKE_CURRENT_LIST_DIR}/editor_undo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/picking_widgets.h
    ${CMAKE_CURRENT_LIST_DIR}/picking_widgets.cpp
    ${CMAKE_CURRENT_LIST_DIR}/style_editor.h
    ${CMAKE_CURRENT_LIST_DIR}/style_editor.cpp
    ${CMAKE_CURRENT_LIST_DIR}/style_editor_controls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/style_editor_controls.h
)
