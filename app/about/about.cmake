# The program's version resource: file version and legal notice reach the About box as compile
# definitions of the one source that builds the version block.
set(VELNOR_LEGAL_NOTICE "Copyright (C) 2026 Arvenco. All rights reserved.")
if(TARGET velnor_app)
  set_source_files_properties(${PROJECT_SOURCE_DIR}/app/about/versioninformation.cpp
    DIRECTORY ${PROJECT_SOURCE_DIR}/app
    PROPERTIES COMPILE_DEFINITIONS
      "VELNOR_FILE_VERSION=\"${PROJECT_VERSION}\";VELNOR_LEGAL_NOTICE=\"${VELNOR_LEGAL_NOTICE}\"")
endif()
