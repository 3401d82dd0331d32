tintwell_gtest(dialog_model_tests
    SOURCES presentations_test.cpp style_code_test.cpp
    LIBS tintwell_model)
