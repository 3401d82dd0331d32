target_sources(tintwell_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/style_editor.h
    ${CMAKE_CURRENT_LIST_DIR}/style_editor.cpp
)
