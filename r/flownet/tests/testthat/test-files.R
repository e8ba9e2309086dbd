test_that("a network file read and written again keeps its bytes", {
  skip_without_programs()
  for (name in c("marsh.dat", "oyster.dat", "cone_spring.dat")) {
    path <- flownet_example(name)
    copy <- tempfile(fileext = ".dat")
    flownet_write(flownet_read(path), copy)
    expect_identical(readBin(copy, "raw", 1e6), readBin(path, "raw", 1e6), label = name)
  }
})

test_that("every format written is read back to the same network", {
  skip_without_programs()
  net <- marsh_network()
  for (ext in c(".dat", ".csv", ".nea")) {
    file <- tempfile(fileext = ext)
    flownet_write(net, file)
    back <- if (ext == ".nea") {
      suppressWarnings(flownet_read(file, non_living = 4))
    } else flownet_read(file)
    expect_equal(unname(back$flows), unname(net$flows), label = ext)
    expect_equal(unname(back$input), unname(net$input), label = ext)
    expect_equal(unname(back$living), unname(net$living), label = ext)
    if (ext != ".nea") expect_equal(rownames(back$flows), rownames(net$flows))
    # The NEA file names no compartment and lumps exports and respirations into one output.
    expect_equal(unname(back$export + back$respiration), unname(net$export + net$respiration))
  }
  expect_error(flownet_write(net, tempfile(fileext = ".dat"), format = "xls"))
})

test_that("an enaR-style network object becomes a flownet network", {
  skip_if_not_installed("network")
  flows <- marsh_network()$flows
  x <- network::network(flows > 0, directed = TRUE, loops = TRUE)
  network::set.edge.value(x, "flow", flows)
  network::set.vertex.attribute(x, "vertex.names", rownames(flows))
  network::set.vertex.attribute(x, "input", c(100, 0, 0, 0))
  network::set.vertex.attribute(x, "export", c(0, 0, 1, 5))
  network::set.vertex.attribute(x, "respiration", c(50, 20, 4, 20))
  network::set.vertex.attribute(x, "storage", c(500, 40, 6, 900))
  network::set.vertex.attribute(x, "living", c(TRUE, TRUE, TRUE, FALSE))
  net <- as_flownet_network(x)
  expect_equal(net$flows, flows)
  expect_equal(unname(net$stock), c(500, 40, 6, 900))
  expect_equal(unname(net$living), c(TRUE, TRUE, TRUE, FALSE))
})
