# A network as R holds it: the flow matrix with the compartments' names, the boundary flows, the
# stocks, which compartments are living, the title and the units.

# A vector of one value per compartment, given by position or by name; zeros when NULL.
per_compartment <- function(x, names, what, default = 0) {
  n <- length(names)
  if (is.null(x)) return(structure(rep(default, n), names = names))
  if (!is.null(names(x)) && all(nzchar(names(x)))) {
    unknown <- setdiff(names(x), names)
    if (length(unknown) > 0) {
      stop(flownet_condition(paste0(what, " names compartments the flow matrix does not: ",
                                    paste(unknown, collapse = ", ")), "flownet_error"))
    }
    full <- structure(rep(default, n), names = names)
    full[names(x)] <- x
    return(full)
  }
  if (length(x) != n) {
    stop(flownet_condition(paste0(what, " has ", length(x), " values for ", n, " compartments"),
                           "flownet_error"))
  }
  structure(unname(x), names = names)
}

flownet_network <- function(flows, input = NULL, export = NULL, respiration = NULL,
                            stock = NULL, living = NULL, title = "", units = NULL,
                            stock_units = NULL, settings = list()) {
  flows <- as.matrix(flows)
  if (!is.numeric(flows) || nrow(flows) != ncol(flows) || nrow(flows) < 1) {
    stop(flownet_condition("flows must be a square numeric matrix, from row to column",
                           "flownet_error"))
  }
  names <- rownames(flows)
  if (is.null(names)) names <- colnames(flows)
  if (is.null(names)) names <- paste("COMPARTMENT", seq_len(nrow(flows)))
  if (!is.null(colnames(flows)) && !identical(colnames(flows), names)) {
    stop(flownet_condition("the row and column names of flows differ", "flownet_error"))
  }
  if (anyDuplicated(names)) {
    stop(flownet_condition("compartment names must differ", "flownet_error"))
  }
  flows[is.na(flows)] <- 0
  dimnames(flows) <- list(names, names)
  living <- per_compartment(living, names, "living", TRUE)
  structure(class = "flownet_network", list(
    flows = flows,
    input = per_compartment(input, names, "input"),
    export = per_compartment(export, names, "export"),
    respiration = per_compartment(respiration, names, "respiration"),
    stock = per_compartment(stock, names, "stock"),
    living = as.logical(living),
    title = as.character(title),
    units = units,
    stock_units = stock_units,
    settings = as.list(settings)))
}

as_flownet_network <- function(x, ...) UseMethod("as_flownet_network")

as_flownet_network.flownet_network <- function(x, ...) x

as_flownet_network.default <- function(x, ...) {
  stop(flownet_condition(paste0("cannot make a flownet network of an object of class ",
                                paste(class(x), collapse = "/")), "flownet_error"))
}

# An enaR-style network object (package network): the flows as the edge attribute "flow", and
# the vertex attributes "input", "export", "respiration" (or only "output"), "storage" and
# "living", as enaR's pack() documents them.
as_flownet_network.network <- function(x, title = "", units = NULL, ...) {
  if (!requireNamespace("network", quietly = TRUE)) {
    stop(flownet_condition("the package network is needed to read a network object",
                           "flownet_error"))
  }
  flows <- network::as.matrix.network(x, attrname = "flow")
  names <- network::get.vertex.attribute(x, "vertex.names")
  if (!is.null(names) && length(names) == nrow(flows)) dimnames(flows) <- list(names, names)
  attr <- function(name) {
    if (!name %in% network::list.vertex.attributes(x)) return(NULL)
    network::get.vertex.attribute(x, name)
  }
  export <- attr("export")
  respiration <- attr("respiration")
  if (is.null(export) && is.null(respiration)) respiration <- attr("output")
  living <- attr("living")
  flownet_network(flows, input = attr("input"), export = export, respiration = respiration,
                  stock = attr("storage"), living = if (is.null(living)) NULL else as.logical(living),
                  title = title, units = units)
}

print.flownet_network <- function(x, ...) {
  n <- nrow(x$flows)
  cat("flownet network: ", if (nzchar(x$title)) x$title else "(no title)", "\n", sep = "")
  cat(n, " compartments (", sum(x$living), " living), ", sum(x$flows > 0), " flows",
      if (!is.null(x$units)) paste0(", in ", x$units), "\n", sep = "")
  invisible(x)
}
