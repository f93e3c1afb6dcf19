# What configuring makes of CHANGELOG.md (data/Changelog.cmake), run as a script:
#   cmake -DSOURCE=<source dir> -DWORK=<scratch dir> -DVERSION=<project version> -DCASE=<case>
#       -P changelog_tests.cmake
# "made" checks what is made from a good changelog and prints "changelog checks passed"; each
# other case is a changelog configuring must refuse, and prints the refusal.
include(${SOURCE}/data/Changelog.cmake)
file(MAKE_DIRECTORY ${WORK})
set(PROJECT_VERSION ${VERSION})

function(expect actual wanted what)
    if(NOT actual STREQUAL wanted)
        message(FATAL_ERROR "${what}: got '${actual}', wanted '${wanted}'")
    endif()
endfunction()

# read_sample NAME TEXT: tessel_read_changelog on a changelog holding TEXT.
macro(read_sample name text)
    file(WRITE ${WORK}/${name}.md "${text}")
    tessel_read_changelog(${WORK}/${name}.md ${WORK}/${name} tessel "M <m@example.org>")
endmacro()

if(CASE STREQUAL "made")
    # The Debian changelog names each day of the week, and lintian checks it.
    foreach(date "2000 1 1 Sat" "1999 12 31 Fri" "2024 2 29 Thu" "2023 3 1 Wed"
                 "2026 12 9 Wed" "2100 3 1 Mon")
        separate_arguments(parts UNIX_COMMAND "${date}")
        list(GET parts 0 y)
        list(GET parts 1 m)
        list(GET parts 2 d)
        list(GET parts 3 wanted)
        _tessel_weekday(${y} ${m} ${d} weekday)
        expect("${weekday}" "${wanted}" "the day of ${y}-${m}-${d}")
    endforeach()

    # The project's own changelog names the project's version first.
    tessel_read_changelog(${SOURCE}/CHANGELOG.md ${WORK}/project tessel "M <m@example.org>")
    file(READ ${WORK}/project project)
    string(REGEX MATCH "^[^\n]*" first "${project}")
    expect("${first}" "tessel (${VERSION}) unstable; urgency=medium" "the newest entry")

    # Two entries with semicolons, brackets and XML's special characters, items continued.
    set(PROJECT_VERSION 2.0.0)
    read_sample(sample "# Title\n\nWords before the first entry.\n\n## 2.0.0 (2026-03-01)\n\n- a; b [c] <d> & `e`\n  continued\n- second\n\n## 1.0.0 (2025-12-25)\n- first\n")
    file(READ ${WORK}/sample debian)
    expect("${debian}" "tessel (2.0.0) unstable; urgency=medium\n\n  * a; b [c] <d> & `e`\n    continued\n  * second\n\n -- M <m@example.org>  Sun, 01 Mar 2026 00:00:00 +0000\n\ntessel (1.0.0) unstable; urgency=medium\n\n  * first\n\n -- M <m@example.org>  Thu, 25 Dec 2025 00:00:00 +0000\n" "the Debian changelog")
    expect("${TESSEL_RELEASE_DATE}" "2026-03-01" "the newest date")
    string(FIND "${TESSEL_APPSTREAM_RELEASES}" "<li>a; b [c] &lt;d&gt; &amp; e continued</li>" item)
    if(item LESS 0)
        message(FATAL_ERROR "the AppStream item: ${TESSEL_APPSTREAM_RELEASES}")
    endif()
    string(FIND "${TESSEL_APPSTREAM_RELEASES}" "<release version=\"1.0.0\" date=\"2025-12-25\">" older)
    if(older LESS 0)
        message(FATAL_ERROR "the older release: ${TESSEL_APPSTREAM_RELEASES}")
    endif()
    message("changelog checks passed")
elseif(CASE STREQUAL "other-version")
    set(PROJECT_VERSION 1.2.3)
    read_sample(other "## 1.2.2 (2026-01-01)\n- a change\n")
elseif(CASE STREQUAL "stray-line")
    read_sample(stray "## ${VERSION} (2026-01-01)\n- a change\nnot an item\n")
elseif(CASE STREQUAL "long-line")
    string(REPEAT "x" 75 long)
    read_sample(long "## ${VERSION} (2026-01-01)\n- ${long}\n")
elseif(CASE STREQUAL "bad-heading")
    read_sample(heading "## ${VERSION} 2026-01-01\n- a change\n")
elseif(CASE STREQUAL "no-change")
    read_sample(empty "## ${VERSION} (2026-01-01)\n\n")
elseif(CASE STREQUAL "no-entry")
    read_sample(none "# Changes\n\nNothing yet.\n")
endif()
