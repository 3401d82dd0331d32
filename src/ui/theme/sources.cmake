# The open theme the windows serve: its document, history, selection and change signals.
target_sources(tintwell_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/edit_command.cpp
    ${CMAKE_CURRENT_LIST_DIR}/editor_launcher.h
    ${CMAKE_CURRENT_LIST_DIR}/open_theme.cpp
    ${CMAKE_CURRENT_LIST_DIR}/theme_window.h
)
