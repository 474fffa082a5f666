# Shared build helpers.

set(ZENTRO_SOURCE_DIR ${CMAKE_SOURCE_DIR})

# zentro_add_test(NAME <name> LABEL <unit|db|gui|card> SOURCES ... [LIBS ...])
# One QtTest executable per tested unit, registered with CTest under its label.
function(zentro_add_test)
    cmake_parse_arguments(T "" "NAME;LABEL" "SOURCES;LIBS" ${ARGN})
    if(T_LABEL STREQUAL "gui" AND NOT ZENTRO_GUI)
        return()
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test zentro_testsupport ${T_LIBS})
    target_compile_definitions(${T_NAME} PRIVATE ZENTRO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES LABELS ${T_LABEL}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZENTRO_SOURCE_DIR=${ZENTRO_SOURCE_DIR};LC_ALL=C.UTF-8")
    if(T_LABEL STREQUAL "card")
        # One pcscd per machine: card tests take turns with the virtual reader.
        set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK vpcd)
    endif()
endfunction()
