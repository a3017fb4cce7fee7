# Selecting an item with a ten-year history: the product sheet, the legend
# with its averages and the chart, from the click to the painted window.
pricewarden_add_benchmark(bench_detailpane
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_detailpane.cpp
    LIBRARIES pricewarden_gui pricewarden_simlib Qt6::Test)
