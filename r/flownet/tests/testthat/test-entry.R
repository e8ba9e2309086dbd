test_that("the steady-state check and the balancing through flowentry", {
  skip_without_programs()
  net <- marsh_network()
  expect_true(flownet_check(net)$steady)
  # The detritus exports 50 instead of 5: 45 more leaves it than enters.
  net$export[["DETRITUS"]] <- 50
  check <- flownet_check(net)
  expect_false(check$steady)
  expect_true(any(grepl("NOT IN STEADY STATE", check$diagnostics)))
  balanced <- flownet_balance(net)
  expect_true(flownet_check(balanced)$steady)
  # No flow is created where there was none.
  expect_true(all(balanced$flows[net$flows == 0] == 0))
  changes <- attr(balanced, "changes")
  expect_s3_class(changes, "data.frame")
  expect_true(all(c("kind", "before", "after") %in% names(changes)))
  moved <- changes[changes$kind == "export" & changes$from_name == "DETRITUS", ]
  expect_equal(moved$before, 50)
})
