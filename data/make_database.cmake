# Creates a database file from its schema with the database tool, only when the file is
# missing: a file that exists (and may hold the user's data) is never overwritten.
#   cmake -DVESK=<tool> -DSCHEMA=<schema> -DOUTPUT=<file> -P make_database.cmake
if(EXISTS "${OUTPUT}")
  return()
endif()
execute_process(COMMAND "${VESK}" create "${OUTPUT}" "${SCHEMA}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "vesk could not create ${OUTPUT} from ${SCHEMA}")
endif()
