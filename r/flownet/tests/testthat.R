library(testthat)
library(flownet)

test_check("flownet")
