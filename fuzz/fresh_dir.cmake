# Empties the folder DIR (made when missing), so a fuzzer run starts from its seeds alone.
file(REMOVE_RECURSE ${DIR})
file(MAKE_DIRECTORY ${DIR})
