#!/usr/bin/python3
"""Rewrites a text recognition model into one that computes the same with fewer operations.

    fold_ocr_model.py SOURCE.onnx TARGET.onnx

The recognition models are exported with every scalar scale, shift and hard-swish written out as
separate element-wise operations; ONNX Runtime runs each as a pass over the whole tensor and
converts its blocked convolution layout back and forth around them, which took about 40 % of a
line's reading time. Here:
- a scalar scale and shift after a convolution go into its weights and bias;
- hard-swish written as x * clip(x + 3, 0, 6) / 6 becomes x * HardSigmoid(x) (alpha 1/6, beta 1/2);
- a scalar scale and shift before a convolution go into it as well; where that convolution pads
  its input, only the scale does, and the shift stays before it as a 1 x 1 convolution per
  channel, so that the zero padding stays zero.
The arithmetic is unchanged; results differ by float rounding alone (tested by comparing what the
two models read)."""
import sys
import numpy as np
import onnx
from onnx import helper, numpy_helper


class Graph:
    def __init__(self, model):
        self.model = model
        self.g = model.graph
        self.consts = {}
        for n in self.g.node:
            value = next((a for a in n.attribute if a.name == 'value'), None)
            if n.op_type == 'Constant' and value is not None:
                self.consts[n.output[0]] = numpy_helper.to_array(value.t)
        for t in self.g.initializer:
            self.consts[t.name] = numpy_helper.to_array(t)
        self.outputs = {o.name for o in self.g.output}
        self.serial = 0

    def users(self, name):
        return [n for n in self.g.node if name in n.input]

    def producer(self, name):
        return next((n for n in self.g.node if name in n.output), None)

    def only_user(self, name, op):
        users = self.users(name)
        if len(users) != 1 or name in self.outputs or users[0].op_type != op:
            return None
        return users[0]

    def scalar(self, name):
        v = self.consts.get(name)
        return float(v.reshape(-1)[0]) if v is not None and v.size == 1 else None

    def other(self, node, name):
        return node.input[1] if node.input[0] == name else node.input[0]

    def constant(self, array, hint):
        self.serial += 1
        name = '%s_rewritten_%d' % (hint, self.serial)
        array = np.ascontiguousarray(array, dtype=np.float32)
        self.g.initializer.append(numpy_helper.from_array(array, name))
        self.consts[name] = array
        return name

    def remove(self, *nodes):
        for n in nodes:
            self.g.node.remove(n)

    def prune_constants(self):
        used = {i for n in self.g.node for i in n.input} | self.outputs
        for n in [n for n in self.g.node if n.op_type == 'Constant' and n.output[0] not in used]:
            self.g.node.remove(n)
        for t in [t for t in self.g.initializer if t.name not in used]:
            self.g.initializer.remove(t)


def conv_weights(graph, conv):
    w = graph.consts.get(conv.input[1])
    if w is None:
        return None, None
    b = graph.consts.get(conv.input[2]) if len(conv.input) > 2 else np.zeros(w.shape[0], np.float32)
    return w, b


def fold_affine_after_conv(graph):
    count = 0
    for conv in [n for n in graph.g.node if n.op_type == 'Conv']:
        w, b = conv_weights(graph, conv)
        if w is None or b is None:
            continue
        mul = graph.only_user(conv.output[0], 'Mul')
        if mul is None:
            continue
        s = graph.scalar(graph.other(mul, conv.output[0]))
        if s is None:
            continue
        last, shift = mul, 0.0
        add = graph.only_user(mul.output[0], 'Add')
        if add is not None and graph.scalar(graph.other(add, mul.output[0])) is not None:
            last, shift = add, graph.scalar(graph.other(add, mul.output[0]))
        inputs = [conv.input[0], graph.constant(w * s, 'w'), graph.constant(b * s + shift, 'b')]
        del conv.input[:]
        conv.input.extend(inputs)
        conv.output[0] = last.output[0]
        graph.remove(*([mul, add] if last is add else [mul]))
        count += 1
    return count


def clip_range(graph, clip):
    attrs = {a.name: helper.get_attribute_value(a) for a in clip.attribute}
    low = attrs.get('min', graph.scalar(clip.input[1]) if len(clip.input) > 1 else None)
    high = attrs.get('max', graph.scalar(clip.input[2]) if len(clip.input) > 2 else None)
    return low, high


def hard_swish(graph):
    count = 0
    for div in [n for n in graph.g.node if n.op_type == 'Div']:
        if graph.scalar(div.input[1]) != 6.0:
            continue
        mul = graph.producer(div.input[0])
        if mul is None or mul.op_type != 'Mul' or len(graph.users(mul.output[0])) != 1:
            continue
        for x, c in ((mul.input[0], mul.input[1]), (mul.input[1], mul.input[0])):
            clip = graph.producer(c)
            if clip is None or clip.op_type != 'Clip' or clip_range(graph, clip) != (0.0, 6.0):
                continue
            add = graph.producer(clip.input[0])
            if add is None or add.op_type != 'Add' or x not in add.input:
                continue
            if graph.scalar(graph.other(add, x)) != 3.0:  # x + x is not x + 3
                continue
            if len(graph.users(add.output[0])) != 1 or len(graph.users(clip.output[0])) != 1:
                continue
            index = list(graph.g.node).index(div)
            graph.serial += 1
            gate = '%s_hard_sigmoid_%d' % (x, graph.serial)
            graph.g.node.insert(index, helper.make_node('Mul', [x, gate], [div.output[0]]))
            graph.g.node.insert(index, helper.make_node('HardSigmoid', [x], [gate], alpha=1.0 / 6.0, beta=0.5))
            graph.remove(add, clip, mul, div)
            count += 1
            break
    return count


def fold_affine_before_conv(graph):
    count = 0
    for mul in [n for n in graph.g.node if n.op_type == 'Mul']:
        if mul not in graph.g.node:
            continue
        name = next((i for i in mul.input if graph.scalar(i) is not None), None)
        if name is None:
            continue
        s, x = graph.scalar(name), graph.other(mul, name)
        if s == 0.0:
            continue
        add = graph.only_user(mul.output[0], 'Add')
        shift_name = graph.other(add, mul.output[0]) if add is not None else None
        if add is None or graph.scalar(shift_name) is None:
            continue
        shift = graph.scalar(shift_name)
        convs = graph.users(add.output[0])
        # Constant weights and bias of a 2-D convolution each (the shift's own convolution
        # below is 2-D).
        def foldable(c):
            w, b = conv_weights(graph, c) if c.op_type == 'Conv' else (None, None)
            return (c.input[0] == add.output[0] and w is not None and b is not None and
                    w.ndim == 4)
        if add.output[0] in graph.outputs or not convs or not all(foldable(c) for c in convs):
            continue
        padded = any(any(helper.get_attribute_value(a)) for c in convs for a in c.attribute
                     if a.name == 'pads') or any(
                helper.get_attribute_value(a) not in (b'NOTSET', b'VALID') for c in convs
                for a in c.attribute if a.name == 'auto_pad')
        for conv in convs:
            w, b = conv_weights(graph, conv)
            bias = b if padded else b + shift * w.reshape(w.shape[0], -1).sum(axis=1)
            inputs = [conv.input[0], graph.constant(w * s, 'w'), graph.constant(bias, 'b')]
            del conv.input[:]
            conv.input.extend(inputs)
        if padded:
            # The shift stays before the convolution: its zero padding must not be shifted. It
            # is written as a 1 x 1 convolution per channel, which the runtime keeps in its
            # blocked layout where an addition would make it convert there and back.
            w = conv_weights(graph, convs[0])[0]
            group = next((helper.get_attribute_value(a) for a in convs[0].attribute
                          if a.name == 'group'), 1)
            channels = w.shape[1] * group
            index = list(graph.g.node).index(add)
            graph.g.node.insert(index, helper.make_node(
                'Conv', [x, graph.constant(np.ones((channels, 1, 1, 1)), 'one'),
                         graph.constant(np.full(channels, shift / s), 'shift')],
                [add.output[0]], group=channels, kernel_shape=[1, 1]))
        else:
            for conv in convs:
                conv.input[0] = x
        graph.remove(mul, add)
        count += 1
    return count


def main(source, target):
    model = onnx.load(source)
    graph = Graph(model)
    before = len([n for n in graph.g.node if n.op_type != 'Constant'])
    a = fold_affine_after_conv(graph)
    h = hard_swish(graph)
    p = fold_affine_before_conv(graph)
    graph.prune_constants()
    after = len([n for n in graph.g.node if n.op_type != 'Constant'])
    onnx.checker.check_model(model)
    onnx.save(model, target)
    print('%s: %d operations -> %d (%d scales after a convolution, %d hard-swish, %d scales before one)'
          % (target, before, after, a, h, p))


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2])
