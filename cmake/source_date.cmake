# The time the sources are from, for whatever the build dates (the manual
# page, the packages' file times), so that anyone building the same sources
# gets the same bytes: SOURCE_DATE_EPOCH where the builder set it, else the
# last commit's time, else the time of the version's entry in the changelog.
# Only this project's own history counts: sources unpacked inside another
# repository (as distributions keep their packaging) take the changelog's.
# Sets SOURCE_DATE_EPOCH (seconds) and SOURCE_DATE (YYYY-MM-DD), and
# RELEASE_DATE, the day of the version's changelog entry.

# Seconds since 1970 of a day of the proleptic Gregorian calendar, at midnight UTC.
function(epoch_of_day year month day result)
    if(month LESS_EQUAL 2)
        math(EXPR year "${year} - 1")
        math(EXPR month "${month} + 9")
    else()
        math(EXPR month "${month} - 3")
    endif()
    math(EXPR era "${year} / 400")
    math(EXPR year_of_era "${year} - ${era} * 400")
    math(EXPR day_of_year "(153 * ${month} + 2) / 5 + ${day} - 1")
    math(EXPR day_of_era
         "${year_of_era} * 365 + ${year_of_era} / 4 - ${year_of_era} / 100 + ${day_of_year}")
    math(EXPR days "${era} * 146097 + ${day_of_era} - 719468")
    math(EXPR seconds "${days} * 86400")
    set(${result} ${seconds} PARENT_SCOPE)
endfunction()

# The time of the changelog's first entry, from its trailer line
# (" -- NAME <MAIL>  Wed, 09 Dec 2026 12:00:00 +0000"): seconds, and the day.
function(changelog_time changelog seconds_result day_result)
    file(STRINGS ${changelog} trailer REGEX "^ -- " LIMIT_COUNT 1)
    string(REGEX MATCH "([0-9]+) ([A-Z][a-z][a-z]) ([0-9]+) ([0-9]+):([0-9]+):([0-9]+) \\+0000"
           date "${trailer}")
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(FIND months ${CMAKE_MATCH_2} month)
    math(EXPR month "${month} + 1")
    epoch_of_day(${CMAKE_MATCH_3} ${month} ${CMAKE_MATCH_1} midnight)
    math(EXPR seconds "${midnight} + ${CMAKE_MATCH_4} * 3600 + ${CMAKE_MATCH_5} * 60 + ${CMAKE_MATCH_6}")
    if(month LESS 10)
        set(month 0${month})
    endif()
    set(${seconds_result} ${seconds} PARENT_SCOPE)
    set(${day_result} ${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()

changelog_time(${PROJECT_SOURCE_DIR}/packaging/debian/changelog release_epoch RELEASE_DATE)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
    set(SOURCE_DATE_EPOCH ${release_epoch})
    # The source folder's place in its repository: empty where it is the top.
    execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} rev-parse --show-prefix
        OUTPUT_VARIABLE place OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE no_repository ERROR_QUIET)
    if(NOT no_repository AND place STREQUAL "")
        execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
            OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        if(commit_time)
            set(SOURCE_DATE_EPOCH ${commit_time})
        endif()
    endif()
endif()
# string(TIMESTAMP) gives the time SOURCE_DATE_EPOCH holds, not the clock's.
set(ENV{SOURCE_DATE_EPOCH} ${SOURCE_DATE_EPOCH})
string(TIMESTAMP SOURCE_DATE "%Y-%m-%d" UTC)
