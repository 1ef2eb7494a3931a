# The game's one icon, TINKERSPINDLE_ICON, drawn at build time at the sizes
# each platform asks for, by rsvg-convert (Debian's librsvg2-bin).
find_program(RSVG_CONVERT rsvg-convert)
if(NOT RSVG_CONVERT)
    message(FATAL_ERROR "Drawing the icon needs rsvg-convert: on Debian, apt-get install librsvg2-bin")
endif()

# A square PNG of the icon, size pixels wide. BACKGROUND fills what the
# icon leaves transparent (its rounded corners), for launchers that cut
# icons to shapes of their own.
function(draw_icon output size)
    cmake_parse_arguments(PARSE_ARGV 2 icon "" "BACKGROUND" "")
    set(background "")
    if(icon_BACKGROUND)
        set(background --background-color=${icon_BACKGROUND})
    endif()
    add_custom_command(OUTPUT ${output}
        COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} ${background}
                --output=${output} ${TINKERSPINDLE_ICON}
        DEPENDS ${TINKERSPINDLE_ICON}
        COMMENT "Drawing the icon at ${size} pixels")
endfunction()
