# Creates a database file from its schema with the database tool, only when the file is
# missing: a file that exists (and may hold the user's data) is never overwritten.
# When SEED_DIR names a folder, every TABLE.tsv in it is imported into table TABLE.
# The file is made under a temporary name and renamed only when all of it succeeded, so a
# failed build never leaves a half-seeded file that later builds would keep.
#   cmake -DVESK=<tool> -DSCHEMA=<schema> -DOUTPUT=<file> [-DSEED_DIR=<folder>] -P make_database.cmake
if(EXISTS "${OUTPUT}")
  return()
endif()
set(partial "${OUTPUT}.partial")
file(REMOVE "${partial}")
execute_process(COMMAND "${VESK}" create "${partial}" "${SCHEMA}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${partial}")
  message(FATAL_ERROR "vesk could not create ${OUTPUT} from ${SCHEMA}")
endif()
if(SEED_DIR AND IS_DIRECTORY "${SEED_DIR}")
  file(GLOB seeds "${SEED_DIR}/*.tsv")
  list(SORT seeds)
  foreach(seed IN LISTS seeds)
    get_filename_component(table "${seed}" NAME_WE)
    execute_process(COMMAND "${VESK}" import "${partial}" "${table}" "${seed}"
                    RESULT_VARIABLE result OUTPUT_QUIET)
    if(NOT result EQUAL 0)
      file(REMOVE "${partial}")
      message(FATAL_ERROR "vesk could not import ${seed} into ${OUTPUT}")
    endif()
  endforeach()
endif()
file(RENAME "${partial}" "${OUTPUT}")
