# Merging a whole refresh into the watch list and sorting it.
pricewarden_add_benchmark(bench_watchlist
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_watchlist.cpp
    LIBRARIES pricewarden_gui)
