# Read by ctest after the discovered test lists: the cases known to take longest get a cost, so that ctest
# starts them first instead of leaving one of them to run alone at the end. ctest keeps its own record of
# each case's time in the build tree and uses it from the second run on; a clean build has none, which is
# what the CI always starts from. Costs are CPU seconds, roughly, from an idle two-core machine.
#
# Every case of the SDL program starts SDL, an OpenGL context on Mesa's software renderer and the music
# decoder, so each costs more than almost any case of the logic program and starts before them.
set(kelvanor_costly_cases
    "^BackendParity\\." 6
    "^PadRecordingTest\\." 4
    "^FullRun\\." 3
    "^FirstStartTest\\." 1
    "^MixerLimiter\\." 1
    "^AssetGenerator\\." 1
    "^CorpusReplay\\." 1
    "^SoundEffects\\." 0.5)

function(kelvanor_set_costs cases usual)
    foreach(case IN LISTS cases)
        set(cost ${usual})
        set(pairs ${kelvanor_costly_cases})
        while(pairs)
            list(POP_FRONT pairs pattern known)
            if(case MATCHES "${pattern}")
                set(cost ${known})
                break()
            endif()
        endwhile()
        set_tests_properties("${case}" PROPERTIES COST ${cost})
    endforeach()
endfunction()

kelvanor_set_costs("${kelvanor_tests_TESTS}" 0.3)
kelvanor_set_costs("${kelvanor_logic_tests_TESTS}" 0)
