# One warning set for every target the project compiles from its own sources; CI makes them errors.
option(CORVEX_WERROR "Treat compiler warnings as errors" OFF)

set(CORVEX_WARNING_FLAGS -Wall -Wextra)
if(CORVEX_WERROR)
    list(APPEND CORVEX_WARNING_FLAGS -Werror)
endif()

# Targets whose sources are not ours: JUCE's modules compile with JUCE's own warnings.
set(CORVEX_FOREIGN_TARGETS corvex_juce)

function(corvex_collect_targets dir result)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(sub IN LISTS subdirs)
        corvex_collect_targets(${sub} more)
        list(APPEND targets ${more})
    endforeach()
    set(${result} ${targets} PARENT_SCOPE)
endfunction()

# Called once, after every folder is added, so that a new target gets the warnings without asking.
function(corvex_apply_warnings)
    corvex_collect_targets(${PROJECT_SOURCE_DIR} targets)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(target IN_LIST CORVEX_FOREIGN_TARGETS OR NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY|MODULE_LIBRARY)$")
            continue()
        endif()
        target_compile_options(${target} PRIVATE ${CORVEX_WARNING_FLAGS})
    endforeach()
endfunction()
