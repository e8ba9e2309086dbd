test_that("a network built in R is analysed to the values of the program's own JSON", {
  skip_without_programs()
  net <- marsh_network()
  r <- flownet_analyse(net)
  # By hand: the throughputs are what enters each compartment.
  expect_equal(r$compartments$throughput, c(100, 40, 8, 35))
  expect_equal(r$compartments$name, rownames(net$flows))
  expect_equal(r$compartments$living, net$living)
  # The same network, written as the package writes it, analysed by the program directly: every
  # value of the package is the JSON's to the last digit.
  file <- tempfile(fileext = ".csv")
  flownet_write(net, file)
  json <- program_json(file)[[1]]
  for (k in seq_along(json$compartments)) {
    expect_identical(r$compartments$throughput[k], json$compartments[[k]]$throughput)
    expect_identical(r$compartments$effectiveTrophicLevel[k],
                     json$compartments[[k]]$effectiveTrophicLevel)
  }
  expect_identical(r$summary$ascendency, json$summary$ascendency)
  expect_identical(r$companionIndices$FCI, json$companionIndices$FCI)
  N <- r$companionIndices$environ$output$integral
  expect_identical(unname(N[2, 4]), json$companionIndices$environ$output$integral[[2]][[4]])
  expect_identical(dimnames(N), list(rownames(net$flows), rownames(net$flows)))
})

test_that("the oyster reef gives the published information indices", {
  skip_without_programs()
  info <- flownet_analyse(flownet_example("oyster.dat"))$companionIndices$information
  # Dame and Patten's oyster reef as the enaR vignette publishes it.
  published <- c(H = 3.018275, AMI = 1.330211, C = 377.4452, A = 166.3473, overhead = 211.0979,
                 AoverC = 0.4407191, robustness = 0.3611021)
  within <- c(H = 5e-5, AMI = 5e-5, C = 5e-4, A = 5e-4, overhead = 5e-4, AoverC = 5e-6,
              robustness = 5e-6)
  for (k in names(published)) {
    expect_lt(abs(info[[k]] - published[[k]]), within[[k]], label = k)
  }
})

test_that("several networks at once, and the tables as data frames", {
  skip_without_programs()
  results <- flownet_analyse(c(flownet_example("marsh.dat"), flownet_example("pond.dat")))
  expect_length(results, 2)
  expect_match(results[[1]]$title, "SALT MARSH")
  expect_match(results[[2]]$title, "POND")
  nexuses <- results[[1]]$cycles$wholeNetwork$nexuses
  expect_s3_class(nexuses, "data.frame")
  # The marsh's two cycles, each the whole of its nexus: weak arcs (3, 4) and (4, 2).
  expect_equal(nexuses$weakArcFrom, c(3, 4))
  expect_equal(nexuses$weakArcTo, c(4, 2))
  expect_s3_class(results[[1]]$flows, "data.frame")
  expect_equal(nrow(results[[1]]$flows), 6)
})

test_that("errors of the programs become R errors with the program's message", {
  skip_without_programs()
  bad <- tempfile(fileext = ".csv")
  writeLines(c(",A,B,respiration", "A,0,-1,1", "B,0,0,1", "input,2,0,"), bad)
  expect_error(flownet_analyse(bad), "line 2", class = "flownet_program_error")
  expect_error(flownet_programs(bin = tempdir()), "were not found", class = "flownet_missing")
  unbalanced <- marsh_network()
  unbalanced$export[["DETRITUS"]] <- 50
  expect_warning(flownet_analyse(unbalanced), "not in steady state")
})
