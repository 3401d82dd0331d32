# Little CMS as a static library for the Windows build, from Debian's lcms2 source: its sources
# compiled as they are (the library needs no configuration step of its own).
cmake_minimum_required(VERSION 3.25)
project(lcms2 C)
file(GLOB lcms2_sources ${LCMS2_SOURCE}/src/*.c)
add_library(lcms2 STATIC ${lcms2_sources})
target_include_directories(lcms2 PUBLIC ${LCMS2_SOURCE}/include)
target_compile_definitions(lcms2 PRIVATE CMS_NO_REGISTER_KEYWORD=1)
install(TARGETS lcms2 ARCHIVE DESTINATION lib)
install(FILES ${LCMS2_SOURCE}/include/lcms2.h ${LCMS2_SOURCE}/include/lcms2_plugin.h
    DESTINATION include)
