# Run by CPack on the staged package, before it is packed: strips the programs as Debian's
# dh_strip does, the symbols and the compiler's .comment and .note sections, which nothing at
# run time reads. The build's own copies keep their symbols.
file(GLOB programs "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/${CPACK_TARVO_BINDIR}/*")
if(NOT programs)
    message(FATAL_ERROR "No programs to strip in ${CPACK_TEMPORARY_DIRECTORY}")
endif()
foreach(program IN LISTS programs)
    execute_process(COMMAND ${CPACK_TARVO_STRIP} --remove-section=.comment --remove-section=.note ${program}
        COMMAND_ERROR_IS_FATAL ANY)
endforeach()
