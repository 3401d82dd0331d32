add_executable(dialogs_test dialogs_test.cpp)
target_link_libraries(dialogs_test PRIVATE tintwell_ui Qt6::Test)
add_test(NAME dialogs_test COMMAND dialogs_test)
set_tests_properties(dialogs_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 120)
