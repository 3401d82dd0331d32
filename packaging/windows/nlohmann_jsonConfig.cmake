# Debian's nlohmann-json points its target at /usr/include, which would put the build system's C
# headers before the cross compiler's; scripts/windows copies the library's own headers beside
# this file instead.
if(NOT TARGET nlohmann_json::nlohmann_json)
    add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
    set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES "${CMAKE_CURRENT_LIST_DIR}/include")
endif()
