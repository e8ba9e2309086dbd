# The tests run the installed programs (FLOWNET_BIN, or the PATH); without them they are skipped.
skip_without_programs <- function() {
  skip_if_not(flownet_available(), "the flownet programs are not installed (set FLOWNET_BIN)")
}

# The program's own JSON for a file, parsed without any simplification.
program_json <- function(file, program = "flowanalysis2") {
  json <- tempfile(fileext = ".json")
  on.exit(unlink(json))
  exe <- flownet_programs()[[program]]
  status <- system2(exe, shQuote(c(file, "--no-report", "-q", "--json", json)))
  stopifnot(status == 0)
  jsonlite::fromJSON(json, simplifyVector = FALSE)$networks
}

# The salt marsh of the examples as R objects: plants take in 100 and pass 30 to herbivores and
# 20 to detritus, herbivores pass 8 to carnivores and 12 to detritus, carnivores 3 to detritus,
# detritus 10 back to the herbivores; the losses balance each compartment.
marsh_network <- function() {
  names <- c("PLANTS", "HERBIVORES", "CARNIVORES", "DETRITUS")
  flows <- matrix(0, 4, 4, dimnames = list(names, names))
  flows["PLANTS", "HERBIVORES"] <- 30
  flows["PLANTS", "DETRITUS"] <- 20
  flows["HERBIVORES", "CARNIVORES"] <- 8
  flows["HERBIVORES", "DETRITUS"] <- 12
  flows["CARNIVORES", "DETRITUS"] <- 3
  flows["DETRITUS", "HERBIVORES"] <- 10
  flownet_network(flows, input = c(PLANTS = 100), export = c(CARNIVORES = 1, DETRITUS = 5),
                  respiration = c(50, 20, 4, 20), stock = c(500, 40, 6, 900),
                  living = c(TRUE, TRUE, TRUE, FALSE), title = "SALT MARSH FROM R",
                  units = "g C m-2 y-1")
}
