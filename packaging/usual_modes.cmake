# Run by cpack on the staged files before it packs them: every folder 0755,
# whatever the builder's umask made it (install() itself gives files 0644
# and programs 0755), so that a package is the same bytes for every builder.
file(GLOB_RECURSE staged LIST_DIRECTORIES true ${CPACK_TEMPORARY_DIRECTORY}/*)
file(CHMOD ${CPACK_TEMPORARY_DIRECTORY} ${staged} DIRECTORY_PERMISSIONS
     OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
