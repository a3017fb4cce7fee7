# The watch engine with 1,000 watched items: an evaluation pass, an edit
# reaching the file, and a poll against the simulated store.
pricewarden_add_benchmark(bench_watchengine
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_watchengine.cpp
    LIBRARIES pricewarden_gui pricewarden_simlib)
