import os
import tempfile
import warnings

import pytest

import flownet
from conftest import marsh_network, program_json


def records(table):
    """A data frame's rows as dicts, or the records themselves without pandas."""
    return table.to_dict("records") if hasattr(table, "to_dict") else table


def test_a_network_built_in_python_is_analysed_to_the_values_of_the_programs_json():
    net = marsh_network()
    r = flownet.analyse(net)
    rows = records(r.compartments)
    # By hand: the throughputs are what enters each compartment.
    assert [c["throughput"] for c in rows] == [100, 40, 8, 35]
    assert [c["name"] for c in rows] == net.names
    with tempfile.TemporaryDirectory() as d:
        path = flownet.write(net, os.path.join(d, "marsh.csv"))
        json_net = program_json(path)[0]
    for mine, theirs in zip(rows, json_net["compartments"]):
        assert mine["throughput"] == theirs["throughput"]
        assert mine["effectiveTrophicLevel"] == theirs["effectiveTrophicLevel"]
    assert r.summary["ascendency"] == json_net["summary"]["ascendency"]
    integral = r.companionIndices["environ"]["output"]["integral"]
    value = integral.iloc[1, 3] if hasattr(integral, "iloc") else integral[1][3]
    assert value == json_net["companionIndices"]["environ"]["output"]["integral"][1][3]
    if hasattr(integral, "iloc"):  # a labelled data frame
        assert list(integral.index) == net.names


def test_the_oyster_reef_gives_the_published_information_indices():
    info = flownet.analyse(flownet.example("oyster.dat")).companionIndices["information"]
    # Dame and Patten's oyster reef as the enaR vignette publishes it.
    published = {"H": (3.018275, 5e-5), "AMI": (1.330211, 5e-5), "C": (377.4452, 5e-4),
                 "A": (166.3473, 5e-4), "overhead": (211.0979, 5e-4),
                 "AoverC": (0.4407191, 5e-6), "robustness": (0.3611021, 5e-6)}
    for key, (value, within) in published.items():
        assert abs(info[key] - value) < within, key


def test_several_networks_at_once_and_the_nexus_tables():
    results = flownet.analyse([flownet.example("marsh.dat"), flownet.example("pond.dat")])
    assert len(results) == 2
    assert results[0].title.startswith("SALT MARSH")
    assert results[1].title.startswith("POND")
    nexuses = records(results[0].cycles["wholeNetwork"]["nexuses"])
    # The marsh's two cycles, each the whole of its nexus: weak arcs (3, 4) and (4, 2).
    assert [(n["weakArcFrom"], n["weakArcTo"]) for n in nexuses] == [(3, 4), (4, 2)]
    assert len(records(results[0].flows)) == 6


def test_errors_of_the_programs_are_raised_with_their_message():
    with tempfile.TemporaryDirectory() as d:
        bad = os.path.join(d, "bad.csv")
        with open(bad, "w") as f:
            f.write(",A,B,respiration\nA,0,-1,1\nB,0,0,1\ninput,2,0,\n")
        with pytest.raises(flownet.FlownetError, match="line 2") as e:
            flownet.analyse(bad)
        assert e.value.status == 2
        with pytest.raises(flownet.FlownetError, match="were not found"):
            flownet.programs(bin=d)
    unbalanced = marsh_network()
    unbalanced.export[3] = 50
    with pytest.warns(UserWarning, match="not in steady state"):
        flownet.analyse(unbalanced)


def test_a_network_file_read_and_written_again_keeps_its_bytes():
    for name in ("marsh.dat", "oyster.dat", "cone_spring.dat"):
        path = flownet.example(name)
        with tempfile.TemporaryDirectory() as d:
            copy = flownet.write(flownet.read(path), os.path.join(d, name))
            with open(copy, "rb") as a, open(path, "rb") as b:
                assert a.read() == b.read(), name


def test_every_format_written_is_read_back_to_the_same_network():
    net = marsh_network()
    for ext in (".dat", ".csv", ".nea"):
        with tempfile.TemporaryDirectory() as d:
            path = flownet.write(net, os.path.join(d, "net" + ext))
            with warnings.catch_warnings():
                warnings.simplefilter("ignore")  # the NEA reader says what it assumed
                back = flownet.read(path, non_living=[4] if ext == ".nea" else None)
        assert back.flows == net.flows, ext
        assert back.input == net.input, ext
        assert back.living == net.living, ext
        if ext != ".nea":
            assert back.names == net.names
        # The NEA file names no compartment and lumps exports and respirations into one output.
        assert [e + r for e, r in zip(back.export, back.respiration)] == \
            [e + r for e, r in zip(net.export, net.respiration)]


def test_the_steady_state_check_and_the_balancing():
    net = marsh_network()
    assert flownet.check(net)["steady"]
    # The detritus exports 50 instead of 5: 45 more leaves it than enters.
    net.export[3] = 50
    check = flownet.check(net)
    assert not check["steady"]
    assert any("NOT IN STEADY STATE" in line for line in check["diagnostics"])
    balanced = flownet.balance(net)
    assert flownet.check(balanced)["steady"]
    # No flow is created where there was none.
    for row, balanced_row in zip(net.flows, balanced.flows):
        assert all(b == 0 for a, b in zip(row, balanced_row) if a == 0)
    moved = [c for c in records(balanced.changes)
             if c["kind"] == "export" and c["from_name"] == "DETRITUS"]
    assert moved[0]["before"] == 50


def test_the_balancing_methods_hold_the_inputs_or_the_outputs():
    # The precision exponent 2 of the example file: the tolerance 10^-6 of the default exponent 6
    # lies below the last bit of single precision at these throughputs.
    net = marsh_network()
    net.settings["precision exponent"] = "2"
    net.export[3] = 50
    for method, kinds in (("input", {"input"}), ("output", {"export", "respiration"})):
        balanced = flownet.balance(net, method=method)
        assert flownet.check(balanced)["steady"], method
        held = [c for c in records(balanced.changes) if c["kind"] in kinds]
        assert held and all(c["after"] == c["before"] for c in held), method
    with pytest.raises(ValueError, match="method"):
        flownet.balance(net, method="both")
