# Fails when the English catalogue and the sources disagree: texts marked in
# the code that it lacks, or texts it keeps that no source has any more.
# lupdate run over the sources must leave a copy of it unchanged.
#   -DLUPDATE=tool -DCATALOGUE=committed .ts -DSOURCES=list file -DWORK=dir
file(MAKE_DIRECTORY "${WORK}")
set(copy "${WORK}/kvt97_en.ts")
file(COPY_FILE "${CATALOGUE}" "${copy}")
execute_process(COMMAND "${LUPDATE}" -locations none -no-obsolete "@${SOURCES}" -ts "${copy}"
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${status}):\n${report}")
endif()
file(READ "${CATALOGUE}" committed)
file(READ "${copy}" updated)
if(NOT committed STREQUAL updated)
  message(FATAL_ERROR "${CATALOGUE} does not match the sources:\n${report}\n"
                      "Run `cmake --build build --target update_translations`, translate what is new, "
                      "and commit the catalogue.")
endif()
message(STATUS "The catalogue matches the sources.\n${report}")
