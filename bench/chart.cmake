# Painting a ten-year price history and repainting it for a mouse move.
pricewarden_add_benchmark(bench_chart
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_chart.cpp
    LIBRARIES pricewarden_gui)
