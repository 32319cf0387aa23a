# Guest programs: 32-bit C compiled freestanding, turned into module images by tximage.
find_program(TERVEX_GUEST_CC NAMES gcc REQUIRED)
# Hand-written guest headers (types, entry point, layout macros) and the directory of the
# generated one (the registry's declarations, written by `txrun --c-header`).
set(TERVEX_GUEST_INCLUDE ${CMAKE_SOURCE_DIR}/tests/guest)
set(TERVEX_GUEST_GENERATED_INCLUDE ${CMAKE_BINARY_DIR}/guest_include)
set(TERVEX_GUEST_COMMANDS_HEADER ${TERVEX_GUEST_GENERATED_INCLUDE}/tervex_commands.h)
file(GLOB TERVEX_GUEST_HEADERS CONFIGURE_DEPENDS ${TERVEX_GUEST_INCLUDE}/*.h)
set(TERVEX_GUEST_CFLAGS -m32 -O1 -ffreestanding -fno-pic -fno-pie -fno-stack-protector
    -fno-asynchronous-unwind-tables -fno-builtin -mno-sse -std=gnu11 -Wall)

# add_guest_header(): the rule that writes the generated header with txrun, as the target
# tervex_guest_header. Call once, after txrun is defined.
function(add_guest_header)
    add_custom_command(
        OUTPUT ${TERVEX_GUEST_COMMANDS_HEADER}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${TERVEX_GUEST_GENERATED_INCLUDE}
        COMMAND txrun --c-header ${TERVEX_GUEST_COMMANDS_HEADER}
        DEPENDS txrun
        COMMENT "Guest header tervex_commands.h"
        VERBATIM)
    add_custom_target(tervex_guest_header ALL DEPENDS ${TERVEX_GUEST_COMMANDS_HEADER})
endfunction()

# add_guest_image(TARGET_VAR OUT_DIR SOURCE) -> appends the image path to TARGET_VAR
function(add_guest_image out_var out_dir source)
    get_filename_component(name ${source} NAME_WE)
    set(obj ${out_dir}/${name}.o)
    set(image ${out_dir}/${name}.tmi)
    add_custom_command(
        OUTPUT ${image}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
        COMMAND ${TERVEX_GUEST_CC} ${TERVEX_GUEST_CFLAGS} -I${TERVEX_GUEST_INCLUDE}
                -I${TERVEX_GUEST_GENERATED_INCLUDE} -c ${source} -o ${obj}
        COMMAND tximage ${obj} -o ${image}
        DEPENDS ${source} tximage ${TERVEX_GUEST_HEADERS} tervex_guest_header
                ${TERVEX_GUEST_COMMANDS_HEADER}
        COMMENT "Guest image ${name}.tmi"
        VERBATIM)
    set(${out_var} ${${out_var}} ${image} PARENT_SCOPE)
endfunction()
