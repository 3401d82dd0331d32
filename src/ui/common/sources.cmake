# Helpers and widgets every window shares: text conversion, placing windows, the busy pointer,
# colours, the owner-drawn button, the preview widget, message boxes and file dialogs.
target_sources(tintwell_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/busy_pointer.h
    ${CMAKE_CURRENT_LIST_DIR}/colour_chart.h
    ${CMAKE_CURRENT_LIST_DIR}/common.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialog_button.h
    ${CMAKE_CURRENT_LIST_DIR}/editing_keys.h
    ${CMAKE_CURRENT_LIST_DIR}/file_dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_names.h
    ${CMAKE_CURRENT_LIST_DIR}/latin1.h
    ${CMAKE_CURRENT_LIST_DIR}/menu_commands.h
    ${CMAKE_CURRENT_LIST_DIR}/message_box_prompter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/owner_drawn_button.cpp
    ${CMAKE_CURRENT_LIST_DIR}/placed.h
    ${CMAKE_CURRENT_LIST_DIR}/preview_widget.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qt_colour.h
    ${CMAKE_CURRENT_LIST_DIR}/tool_panel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/twips.h
    ${CMAKE_CURRENT_LIST_DIR}/window_place.h
)
