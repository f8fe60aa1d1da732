# Run by cpack once the package's files are staged: every file it puts under
# /etc is listed as a configuration file, so dpkg keeps a user's changes to
# it on an upgrade and asks before replacing them.
file(GLOB_RECURSE etc_files LIST_DIRECTORIES false RELATIVE "${CPACK_TEMPORARY_DIRECTORY}"
  "${CPACK_TEMPORARY_DIRECTORY}/etc/*")
file(REMOVE "${CPACK_HLR_CONFFILES}")
if(etc_files)
  list(SORT etc_files)
  list(TRANSFORM etc_files PREPEND "/")
  list(JOIN etc_files "\n" text)
  file(WRITE "${CPACK_HLR_CONFFILES}" "${text}\n")
endif()
