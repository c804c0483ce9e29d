# Copies the shipped data tree into the bundle: cmake -DSOURCE=... -DTARGET=... -P CopyDataTree.cmake
# .gitkeep files only keep empty folders in the repository and are left out.
file(MAKE_DIRECTORY "${TARGET}")
file(COPY "${SOURCE}/" DESTINATION "${TARGET}" PATTERN ".gitkeep" EXCLUDE)
