target_sources(tintwell_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/check_panel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/colour_tools.cpp
    ${CMAKE_CURRENT_LIST_DIR}/colours_panel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/compare_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialog_menus.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edit_selected_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/findings_model.cpp
    ${CMAKE_CURRENT_LIST_DIR}/night_colours_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/presentation_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/replace_colour_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sport_style_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/style_text_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/updates_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/web_pages.cpp
)
