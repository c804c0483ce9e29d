# Lays out the shipped data tree in the bundle: cmake -DSOURCE=... -DTARGET=... -P CopyDataTree.cmake
# The target is replaced as a whole, so it holds exactly what the repository ships.
# .gitkeep files only keep empty folders in the repository and are left out.
file(REMOVE_RECURSE "${TARGET}")
file(MAKE_DIRECTORY "${TARGET}")
file(COPY "${SOURCE}/" DESTINATION "${TARGET}" PATTERN ".gitkeep" EXCLUDE)
